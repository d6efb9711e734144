#pragma once

#include <QMenu>

#include <functional>
#include <string>
#include <vector>

namespace kelbo::guide {

struct SeriesRule;

// "Series": the stored series rules, each with "Remove", read afresh each
// time the menu opens so that rules the command line changed show too.
class SeriesMenu : public QMenu {
public:
    // `entries`: the add-in's menu texts, to name a rule's entry; `report`
    // shows what a removal did.
    SeriesMenu(std::vector<std::string> entries, std::function<void(const QString&)> report,
               QWidget* parent = nullptr);

    void refresh();

private:
    QString label(const SeriesRule& rule) const;
    void remove(const SeriesRule& rule);

    std::vector<std::string> entries_;
    std::function<void(const QString&)> report_;
};

}  // namespace kelbo::guide
