#include "gui/taps_menu.h"

#include "core/dialog/dialog_messages.h"
#include "core/formats/exports/export.h"
#include "gui/guard.h"
#include "gui/value_list.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include <span>

namespace {

// Each entry and the format whose text it copies.
struct Entry {
    const char* text;
    std::string_view format;
};
constexpr Entry kEntries[] = {
    {"&Copy", "text"},
    {"Copy at &full precision", "full"},
    {"Copy as C &array", "c"},
    {"Copy as Q&15 C array", "c-q15"},
    {"Copy as Q&31 C array", "c-q31"},
    {"Copy as C&SV", "csv"},
    {"Copy as &JSON", "json"},
};

} // namespace

TapsMenu::TapsMenu(ValueList* list) : QObject(list), m_list(list) {
    for (const Entry& entry : kEntries) {
        auto* action = new QAction(entry.text, list);
        if (entry.format == "text") {
            action->setShortcut(QKeySequence::Copy);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        action->setEnabled(false);
        list->addAction(action);
        connect(action, &QAction::triggered, this, [this, format = entry.format] {
            RunGuarded(m_list->window(), [this, format] { CopyAs(format); });
        });
    }
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TapsMenu::SetTaps(std::shared_ptr<double[]> taps, int count,
                       taplore::TapsDescription description) {
    m_taps = std::move(taps);
    m_count = count;
    m_description = std::move(description);
    for (QAction* action : m_list->actions())
        action->setEnabled(m_count > 0);
}

// The cost figure of a Q C array of a million taps is a transform of a million points.
void TapsMenu::CopyAs(std::string_view format) {
    WaitCursor wait;
    const std::span<const double> taps(m_taps.get(), static_cast<std::size_t>(m_count));
    std::string text;
    try {
        text = taplore::ExportText(*taplore::FindExportFormat(format), taps, m_description);
    } catch (const std::runtime_error& e) { // no fixed-point form, or a refused export
        wait.Restore();
        ShowMessage(m_list->window(), taplore::ErrorMessage(e.what()));
        return;
    }
    // The texts are ASCII: the cheapest conversion, for a million taps.
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}
