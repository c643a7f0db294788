#include "app/application.h"

#include "app/bootstrapwindow.h"
#include "store/schema.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

using namespace Qt::StringLiterals;

Application::Application(Context& context)
    : m_ctx(context)
{}

Application::~Application() = default;

int Application::run()
{
    if (!loadImagePack())
        return 0;

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_ctx.workArea = screen->availableGeometry();
        m_ctx.desktopSize = screen->geometry().size();
    }

    if (!openDatabase())
        return 0;

    m_ctx.prefs = Preferences::read(m_ctx.filePath(u"prefs.ini"_s));
    return 0;
}

bool Application::loadImagePack()
{
    m_ctx.images = ImagePack::load(m_ctx.filePath(u"imgs.pak"_s));
    if (!m_ctx.images) {
        m_ctx.prompter.warn(u"ERROR"_s, u"couldn't Load Image PAK-file....(hasches gfressn?\?)"_s);
        return false;
    }
    return true;
}

bool Application::openDatabase()
{
    const QString path = m_ctx.filePath(u"data.zr"_s);
    const QFileInfo file(path);
    if (!file.exists() || file.size() < 1) {
        const bool create = m_ctx.prompter.askYesNo(
                u"Datenbank"_s,
                u"Es scheint keine bestehende Datenbank zu existieren,\n"
                "entweder es wird eine Leere Datenbank erstellt, oder es wird versucht eine "
                "bestehende Datenbanksicherung rück zu sichern.\n"
                "Möchten Sie eine Neue Datenbank erstellen?"_s);
        if (!create) {
            m_ctx.quitState = QuitState::DatabaseError;
            return false;
        }
        return createDatabase();
    }

    QString error;
    m_ctx.db = Database::open(path, &error);
    if (!m_ctx.db) {
        m_ctx.prompter.warn(u"Error"_s, error);
        return false;
    }
    return true;
}

bool Application::createDatabase()
{
    QString error;
    m_ctx.db = Database::open(m_ctx.filePath(u"data.zr"_s), &error);
    if (!m_ctx.db) {
        m_ctx.prompter.warn(u"Error"_s, error);
        return false;
    }
    BootstrapWindow window;
    window.show();
    Schema::bootstrap(*m_ctx.db, [&window](const QString& text) {
        window.setText(text);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    return true;
}
