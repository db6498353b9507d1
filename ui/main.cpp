// Start-up. The main window arrives in a later commit; until then the program
// only proves that the Qt application builds and starts.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tavelorn Tiles"));
    window.resize(601, 460);
    window.show();
    return app.exec();
}
