#pragma once

#include <QComboBox>

#include <optional>
#include <string>
#include <vector>

#include "insight/CountedRuns.h"

class InsightSource;
class QBoxLayout;

namespace pq {
class LogList;
}

// The tag filter of the Charts and Records windows: "All", or one tag of the log, so that every chart, record
// and summary takes only the runs with that tag.
class TagFilterBox : public QComboBox {
    Q_OBJECT

public:
    static const QString AllText;

    explicit TagFilterBox(QWidget *parent = nullptr);

    // Offers the tags of the log without signalling a change; the tag chosen stays chosen while the log still has
    // it, else "All" is.
    void SetTags(const pq::LogList &list);
    // The same for the tag names (MarkNames) of a log.
    void SetTags(const std::vector<std::string> &names);
    // The chosen tag's name (Windows-1252, without "#"), or nothing for "All".
    std::optional<std::string> Tag() const;
    // Chooses a tag by name (any ASCII case); false, with "All" chosen, when the log has no such tag.
    bool ChooseTag(const std::string &name);
    // The rows the choice takes in the list; an empty filter for "All". The list must outlive the filter.
    pq::RowFilter Filter(const pq::LogList &list) const;

    // Keeps the box and the source's tag one: a tag chosen here is the source's, and when the source counts
    // again (the log changed, or another window chose) the box offers the log's tags with the source's chosen.
    void Follow(InsightSource &source);

    // A "Tag:" caption and a box following the source, added to a row of a window's choices.
    static TagFilterBox *AddTo(QBoxLayout *row, InsightSource &source);
};
