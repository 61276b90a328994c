#pragma once

#include <QString>
#include <QStringList>

// Folders that only the user can write to. Files such as a lock or a local socket are trusted
// only there: in a folder others can write to, another user could put them in place first.

// Whether path is a folder (not a link to one) owned by the user, that no one else may write.
bool IsPrivateFolder(const QString& path);

// The first of the candidates that is a private folder; a candidate that does not exist yet is
// made, readable and writable by the user alone. Empty when none will do.
QString FirstPrivateFolder(const QStringList& candidates);
