#include "gui/peaks/tgi_form6.h"

#include "gui/app/navigator.h"
#include "gui/platform/help.h"
#include "gui/platform/message_box.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace kestrana::gui::peaks {

tgi_form6::tgi_form6(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tgi_form6"));
    setWindowTitle(platform::kApplicationTitle + QStringLiteral(" - Peak Analyzer"));
    Command5 = new QPushButton(QStringLiteral("   GO TO    MAIN"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    connect(Command5, &QPushButton::clicked, this, &tgi_form6::Command5_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(Command5, 0, Qt::AlignRight);
    platform::installHelp(this);
    resize(800, 600);
}

void tgi_form6::Command5_Click() {
    app::Navigator::goToMain(this);
}

} // namespace kestrana::gui::peaks
