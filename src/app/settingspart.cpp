#include "app/organiserwindow.h"
#include "app/parts.h"
#include "core/context.h"
#include "output/outputactions.h"
#include "settings/settingsactions.h"
#include "settings/settingspage.h"
#include "store/backup.h"

#include <QPushButton>

SettingsPart::SettingsPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
{
    SettingsPage& page = *parts.window.settingsPage();
    new SettingsActions(parts.ctx, page, this);
    new OutputActions(parts.ctx, page, &parts.window);
    connect(page.backupButton(), &QPushButton::clicked, this, [this] {
        Context& ctx = m_parts.ctx;
        Backup::saveBackup(ctx.dataDir, ctx.prompter, ctx.clock.now());
    });
    connect(page.restoreButton(), &QPushButton::clicked, this, &SettingsPart::restoreBackup);
}

void SettingsPart::restoreBackup()
{
    Context& ctx = m_parts.ctx;
    emit m_parts.changes.databaseClosing();
    const bool restored = Backup::restoreBackup(ctx.dataDir, ctx.prompter, ctx.db);
    if (!ctx.db) {
        emit databaseLost();
        return;
    }
    emit m_parts.changes.databaseReopened();
    if (restored)
        emit m_parts.changes.databaseReplaced();
}
