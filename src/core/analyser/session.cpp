// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/session.h"

namespace kestrana::analyser {

QualityResult AnalyserSession::processInformation(std::string_view startKmText, std::string_view endKmText) {
    QualityResult result = analyser::processInformation(table, startKmText, endKmText);
    range = result.range;
    distribution = result.distribution;
    return result;
}

Listing AnalyserSession::showDetails(std::string_view lowText, std::string_view highText,
                                     std::string_view indexName) {
    Listing listing = analyser::showDetails(table, range, lowText, highText, indexName);
    listingBounds = listing.bounds;
    return listing;
}

TrackShare AnalyserSession::calcTrackShare(std::string_view lowText, std::string_view highText) {
    TrackShare share = analyser::calcTrackShare(table, range, lowText, highText);
    shareBounds = share.bounds;
    return share;
}

AnalyserSession& analyserSession() {
    static AnalyserSession session;
    return session;
}

} // namespace kestrana::analyser
