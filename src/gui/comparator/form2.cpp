#include "gui/comparator/form2.h"

#include "gui/app/navigator.h"
#include "gui/platform/help.h"
#include "gui/platform/message_box.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace kestrana::gui::comparator {

form2::form2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("form2"));
    setWindowTitle(platform::kApplicationTitle + QStringLiteral(" - TGI Comparator"));
    Command4 = new QPushButton(QStringLiteral("   GO TO   MAIN"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    connect(Command4, &QPushButton::clicked, this, &form2::Command4_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(Command4, 0, Qt::AlignRight);
    platform::installHelp(this);
    resize(800, 600);
}

void form2::Command4_Click() {
    app::Navigator::goToMain(this);
}

} // namespace kestrana::gui::comparator
