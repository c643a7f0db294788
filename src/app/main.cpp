#include "app/application.h"
#include "app/programdirectory.h"
#include "app/qtprompter.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));

    SystemClock clock;
    QtPrompter prompter;
    Context context(programDirectory(), prompter, clock);
    Application app(context, prompter);
    return app.run();
}
