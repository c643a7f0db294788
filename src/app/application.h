#pragma once

#include "app/context.h"

#include <QObject>

// The program's run: start-up, the event loop and shutdown.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(Context& context);
    ~Application() override;

    // Runs the program to its end and returns the exit code.
    int run();

private:
    bool loadImagePack();
    bool openDatabase();
    bool createDatabase();

    Context& m_ctx;
};
