#include "gui/app/menu_texts.h"

namespace kestrana::gui::app::menu_texts {

std::string displayQuestion(int width, int height) {
    return " Resolution  " + std::to_string(width) + " X " + std::to_string(height) +
           " of your monitor is required to be changed to 1024 x 768 for proper viewing. Change it? Original "
           "resolution will be restored back when you quit.";
}

} // namespace kestrana::gui::app::menu_texts
