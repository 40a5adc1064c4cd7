#pragma once

#include <QWidget>

class TPacequillDlgClient;

// The shell wires the window's feature modules to the document client, which knows none of them: the entry
// commands (Add, Duplicate, Modify, Delete), the statistics, the activity import (menu and dropped files) and the
// Charts and Records windows. The modules become children of the client or respond through its table.
void AttachFeatureModules(TPacequillDlgClient &client);

// A document client with every feature module attached, as the program's frame holds it.
TPacequillDlgClient *NewDocumentClient(QWidget *parent = nullptr);
