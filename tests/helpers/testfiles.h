#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The permission bits of a file (with set-ID and sticky bits), or -1 when it is missing.
int fileMode(const QString &path);

// Makes a database file with the given key (none when empty) and statements, failing the
// current test when a step fails.
void makeDb(const QString &path, const QByteArray &key, const QList<QByteArray> &statements);

// Every row of a query, values as text (NULL as a null QString), read through a
// connection of the test's own to the data folder; empty when it cannot be opened.
QList<QStringList> rawRows(const QString &dataFolder, const char *sql, int columns);
