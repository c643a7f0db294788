#include "app/organiserwindow.h"
#include "app/parts.h"
#include "core/context.h"
#include "groups/displayfilterdialog.h"
#include "groups/grouplist.h"
#include "groups/grouppanel.h"
#include "settings/settingspage.h"
#include "views/overviews.h"

GroupsPart::GroupsPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
{
    fill();
    auto* panel = new GroupPanel(parts.ctx, *parts.window.settingsPage(), parts.overviews, this);
    connect(panel, &GroupPanel::groupsChanged, &parts.changes, &Changes::groupsChanged);
    connect(&parts.changes, &Changes::databaseReplaced, this, &GroupsPart::fill);

    connect(&parts.overviews, &Overviews::displayGroupsRequested, this, [this] {
        Context& ctx = m_parts.ctx;
        DisplayFilterDialog dialog(ctx.prefs, *ctx.db, ctx.prompter, *ctx.images, &m_parts.window);
        dialog.exec();
        m_parts.overviews.drawShownPicture();
    });
}

void GroupsPart::fill()
{
    Context& ctx = m_parts.ctx;
    fillGroupList(*m_parts.window.settingsPage()->groupList(), *ctx.db, ctx.prompter, *ctx.images);
}
