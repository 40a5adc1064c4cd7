#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class ChartsWindow;
class InsightSource;
class RecordsWindow;
class TPacequillDlgClient;

// The Stats menu's Charts and Records commands of the document client. Each opens its window, or brings it to
// the front when it is open; both windows follow the client's log. The commands are enabled when the log has a
// row with a date.
class InsightWindows : public QObject {
    Q_OBJECT

public:
    // Registers the commands with the client; a child of the client.
    explicit InsightWindows(TPacequillDlgClient &client);
    ~InsightWindows() override;

    void OpenCharts();
    void OpenRecords();
    bool HasDatedRow() const;

    ChartsWindow *Charts() const;
    RecordsWindow *Records() const;

private:
    InsightSource &Source();

    TPacequillDlgClient &Client;
    std::unique_ptr<InsightSource> Counted;
    QPointer<ChartsWindow> ChartsView;
    QPointer<RecordsWindow> RecordsView;
};
