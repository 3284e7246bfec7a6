#include "gui/services/test_mode.h"

#include "gui/services/chart_clipboard.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/services/title_prompt.h"

namespace kestrana::gui::services {

namespace {
bool testModeOn = false;
}

void enableTestMode() {
    testModeOn = true;
}

bool inTestMode() {
    return testModeOn;
}

void resetServices() {
    MessageBox::reset();
    TitlePrompt::reset();
    FileDialog::reset();
    ChartClipboard::reset();
    HardCopyPrinter::reset();
    ResolutionSwitch::reset();
}

} // namespace kestrana::gui::services
