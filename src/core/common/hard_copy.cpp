// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/hard_copy.h"

namespace kestrana::common {

namespace {
PrintOp opOf(PrintOp::Kind kind) {
    PrintOp op;
    op.kind = kind;
    return op;
}
} // namespace

void HardCopyScript::pushFont() {
    PrintOp op = opOf(PrintOp::Kind::SetFont);
    op.font = font_;
    ops_.push_back(op);
}

void HardCopyScript::setX(int twips) {
    PrintOp op = opOf(PrintOp::Kind::SetX);
    op.value = twips;
    ops_.push_back(op);
}

void HardCopyScript::setY(int twips) {
    PrintOp op = opOf(PrintOp::Kind::SetY);
    op.value = twips;
    ops_.push_back(op);
}

void HardCopyScript::setPosition(int xTwips, int yTwips) {
    setX(xTwips);
    setY(yTwips);
}

void HardCopyScript::setFontSize(double points) {
    font_.size = points;
    pushFont();
}

void HardCopyScript::setBold(bool on) {
    font_.bold = on;
    pushFont();
}

void HardCopyScript::setItalic(bool on) {
    font_.italic = on;
    pushFont();
}

void HardCopyScript::setUnderline(bool on) {
    font_.underline = on;
    pushFont();
}

void HardCopyScript::setFixedPitch(bool on) {
    font_.fixedPitch = on;
    pushFont();
}

void HardCopyScript::repeatOnNewPages(int xTwips, std::string text) {
    PrintOp op = opOf(PrintOp::Kind::PageHeader);
    op.x = xTwips;
    op.text = std::move(text);
    op.font = font_;
    ops_.push_back(std::move(op));
}

void HardCopyScript::printLine(std::string text) {
    PrintOp op = opOf(PrintOp::Kind::Line);
    op.text = std::move(text);
    op.font = font_;
    ops_.push_back(std::move(op));
}

void HardCopyScript::printLineAt(int xTwips, std::string text) {
    setX(xTwips);
    printLine(std::move(text));
}

void HardCopyScript::drawPicture(int xTwips, int yTwips) {
    PrintOp op = opOf(PrintOp::Kind::Picture);
    op.x = xTwips;
    op.y = yTwips;
    ops_.push_back(op);
}

void HardCopyScript::endDoc() {
    ops_.push_back(opOf(PrintOp::Kind::EndDoc));
}

std::vector<std::string> HardCopyScript::lines() const {
    std::vector<std::string> result;
    for (const auto& op : ops_) {
        if (op.kind == PrintOp::Kind::Line) {
            result.push_back(op.text);
        }
    }
    return result;
}

} // namespace kestrana::common
