#include "shell/DocumentModules.h"

#include "calc/EntryCommands.h"
#include "import/ImportCommands.h"
#include "insight/InsightWindows.h"
#include "log/TPacequillDlgClient.h"
#include "stats/StatsCommands.h"

void AttachFeatureModules(TPacequillDlgClient &client) {
    new EntryCommands(client); // a child of the client
    StatsCommands::AddTo(client);
    ImportCommands::AddTo(client);
    QObject::connect(&client, &TPacequillDlgClient::FilesDropped, &client,
                     [&client](const QStringList &paths) { ImportCommands::ImportFiles(client, paths); });
    client.setAcceptDrops(true);
    new InsightWindows(client); // a child of the client
}

TPacequillDlgClient *NewDocumentClient(QWidget *parent) {
    auto *client = new TPacequillDlgClient(parent);
    AttachFeatureModules(*client);
    return client;
}
