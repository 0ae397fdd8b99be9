// The seven ready-made name sets of the own application (books, insurance,
// recipes, vehicles, music, videos, collections): one constant table that
// both template toolbars read, the naming window's and the records window's.
// A template names the ten fields and the application in each language; it
// never touches the records or the kinds of their fields.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QList>
#include <QString>
#include <QStringList>

constexpr int kNamedFields = 10;

struct DatabaseTemplate {
    // Its button on both template toolbars.
    QString button;   // "t1"
    QString picture;  // "img/books.bmp", 32 x 32
    Texts caption;
    Texts tooltip;

    // Text fields 1-5, yes/no fields 1-3, the date, the long text.
    Texts fields[kNamedFields];
    Texts application;  // the title; what the records window stores
    Texts searchHint;   // the records window's hint above its search boxes
    Texts header1;      // the records window's list headers; blank: the names of fields 1, 2
    Texts header2;
    Texts nameInBox;  // what the naming window puts in its name box; blank: the application
};

// t1 ... t7, in the order of the toolbar.
const QList<DatabaseTemplate>& DatabaseTemplates();

// In the language in force: the ten field names followed by the application
// name, the order in which the names are stored and read.
QStringList TemplateNames(const DatabaseTemplate& chosen);

// True when the ten field names (`names` may go on with the application
// name) are all blank, or are those of a template in one of the languages:
// nothing of the user's own would be lost by choosing another template.
bool NamesOfNoOneButATemplate(const QStringList& names);

// Asks before a template replaces names of the user's own; true when the
// names may be replaced (at once when NamesOfNoOneButATemplate).
bool MayReplaceNames(const QStringList& names);

// In the language in force: list header 1 or 2 of the records window.
QString TemplateHeader(const DatabaseTemplate& chosen, int column);

// Defines the toolbar of template buttons at the bottom edge of `window`
// (64 x 64 buttons, 32 x 32 pictures with their captions under them, texts
// in the language in force); button n runs applies[n - 1].
void BuildTemplateToolbar(const QString& window, const QString& toolbar,
                          const QList<Action>& applies);
