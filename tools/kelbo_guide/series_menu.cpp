#include "series_menu.h"

#include "series_rules.h"

#include "common/settings_store.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace kelbo::guide {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Titles come from listings: an ampersand is not a mnemonic and a tab not
// the start of a shortcut's text.
QString asMenuText(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

SeriesMenu::SeriesMenu(std::vector<std::string> entries, std::function<void(const QString&)> report,
                       QWidget* parent)
    : QMenu(QCoreApplication::translate("SeriesMenu", "&Series"), parent),
      entries_(std::move(entries)),
      report_(std::move(report)) {
    connect(this, &QMenu::aboutToShow, this, &SeriesMenu::refresh);
    refresh();
}

QString SeriesMenu::label(const SeriesRule& rule) const {
    QString entry = rule.entry < entries_.size()
                        ? qs(entries_[rule.entry])
                        : QCoreApplication::translate("SeriesMenu", "entry %1").arg(rule.entry);
    entry.remove(QRegularExpression(QStringLiteral("^Record with ")));
    const QString channel = rule.channel.empty() ? QCoreApplication::translate("SeriesMenu", "any channel")
                                                 : QStringLiteral("\"%1\"").arg(qs(rule.channel));
    QString text =
        QCoreApplication::translate("SeriesMenu", "\"%1\" on %2 with %3").arg(qs(rule.title), channel, entry);
    if (rule.newOnly) text += QCoreApplication::translate("SeriesMenu", ", new episodes only");
    return text;
}

void SeriesMenu::refresh() {
    clear();
    SettingsStore settings(SettingsStore::defaultLocation());
    const std::vector<SeriesRule> rules = SeriesRuleStore(settings).rules();
    if (rules.empty()) {
        addAction(QCoreApplication::translate("SeriesMenu", "(no series rules)"))->setEnabled(false);
        return;
    }
    for (const SeriesRule& rule : rules) {
        QMenu* menu = addMenu(asMenuText(label(rule)));
        connect(menu->addAction(QCoreApplication::translate("SeriesMenu", "Remove")), &QAction::triggered, this,
                [this, rule] { remove(rule); });
    }
}

void SeriesMenu::remove(const SeriesRule& rule) {
    // By its content, not its place: the command line may have renumbered
    // the rules since the menu was made.
    SettingsStore settings(SettingsStore::defaultLocation());
    SeriesRuleStore store(settings);
    const std::vector<SeriesRule> rules = store.rules();
    const auto found = std::find(rules.begin(), rules.end(), rule);
    if (found == rules.end())
        report_(QCoreApplication::translate("SeriesMenu", "The series rule %1 is no longer stored.").arg(label(rule)));
    else if (!store.remove(static_cast<size_t>(found - rules.begin()) + 1))
        report_(QCoreApplication::translate("SeriesMenu", "The series rule could not be removed from %1.")
                    .arg(qs(settings.file().string())));
    else
        report_(QCoreApplication::translate("SeriesMenu", "Series rule removed: %1").arg(label(rule)));
    refresh();
}

}  // namespace kelbo::guide
