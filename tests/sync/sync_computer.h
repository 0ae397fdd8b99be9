// One computer of the sync tests: a private copy of the built application
// folder with its own data folder, its program run as a script runs it
// (no graphical session), and its address books read and changed the way
// another program or the user's window would, straight in its tables.
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <utility>

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class SyncComputer {
  public:
    SyncComputer();

    // The program with `arguments`, the password on its standard input; a
    // run that does not end in time is killed and gives exit code -1.
    ProgramRun kesp(const QStringList& arguments) const;
    // The same, started and handed to `whileRunning` with its process id.
    ProgramRun kespWatched(const QStringList& arguments,
                           const std::function<void(qint64 pid)>& whileRunning) const;

    // Sets the account and maps the books; the address book URLs it printed.
    QString setServer(const QString& url);
    QString privateBookUrl() const;

    // Imports the cards into the private book.
    void addCards(const QByteArray& vcards) const;

    // The live records of the private book by last name (NACHNAME), each
    // with its field values, texts trimmed.
    QMap<QString, QMap<QString, QVariant>> people() const;
    // How many records of the private book are marked deleted (in the trash).
    int inTrash() const;
    // Changes fields of the live record named `lastName`, as a window's Save does.
    void change(const QString& lastName, const QList<std::pair<QString, QVariant>>& fields) const;
    // Marks the live record named `lastName` deleted, as the window's Delete does.
    void remove(const QString& lastName) const;

    // Points the account at another address of the same server (a proxy,
    // or a port nobody listens on).
    void pointAccountAt(const QUrl& base) const;
    void setPrivateToken(const QByteArray& token) const;

    QString dataFile(const QString& name) const;

  private:
    void eachLive(const std::function<bool()>& visit) const;
    QTemporaryDir folder_;
};

// A card of the private book with a last name, a first name and more
// properties ("EMAIL:a@b.de"), as a vCard 3.0 text.
QByteArray PersonCard(const QString& uid, const QString& firstName, const QString& lastName,
                      const QStringList& more = {});
