#include "gui/platform/test_mode.h"

#include "gui/platform/clipboard.h"
#include "gui/platform/file_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/platform/printer.h"
#include "gui/platform/resolution_switch.h"
#include "gui/platform/title_prompt.h"

namespace kestrana::gui::platform {

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

} // namespace kestrana::gui::platform
