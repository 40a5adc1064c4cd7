#pragma once

#include <QString>

// The program's name as the frame's caption and the captions of its messages show it.
inline const QString ProgramName = QStringLiteral("Pacequill 3.1");
