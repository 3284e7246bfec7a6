// The kestrana program: starts on its main menu.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel placeholder("Kestrana");
    placeholder.show();
    return app.exec();
}
