#include "infowindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    InfoWindow window(InfoWindow::versionFromArguments(QApplication::arguments()));
    window.show();
    return QApplication::exec();
}
