// The lookup of the running copy on the session bus: the program offers the
// service "net.varnel.Kesp" with the object "/Lookup" and its method
// Lookup(text) (interface "net.varnel.Kesp.Lookup"), which shows the lookup
// window (apps/words/lookup_window.h) for the text. `kesp --lookup-window`
// calls it, so that the window comes from the copy that runs, with its
// dictionary already read, instead of a new program starting.
//
// One copy offers it in a desktop session; a second copy of the program
// (another installation) finds the name taken and offers nothing.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

inline const QString kLookupService = QStringLiteral("net.varnel.Kesp");
inline const QString kLookupPath = QStringLiteral("/Lookup");
inline const QString kLookupInterface = QStringLiteral("net.varnel.Kesp.Lookup");

// What Lookup(text) does: the lookup window for the text, the dictionary's
// index of headwords built and saved first when the table changed since.
void ShowLookupOfRunningCopy(const QString& text);

// Registers the service on the session bus; false when there is no bus or
// another copy offers it.
bool OfferLookupService();

// Offers it no more: the program is closing.
void WithdrawLookupService();

// Asks the copy that offers the service to look the text up; true when it
// took the call, false when no copy offers it (or it did not answer within
// two seconds).
bool AskRunningCopyToLookUp(const QString& text);
