// The record windows the shared tests run over: each application's
// description and the main window's launch operation. A new record
// application joins every such test with one line here.
#pragma once

#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/record_window.h"
#include "apps/custom/custom_database.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"

#include <ostream>

struct RecordApplication {
    const char* name;
    const RecordWindow& (*describe)();
    void (*open)();  // the main window's launch operation
};

inline void PrintTo(const RecordApplication& application, std::ostream* out) {
    *out << application.name;
}

inline const RecordApplication kRecordApplications[] = {
    {"PrivateAddresses", PrivateAddressBook, OPENFORM_ADRESSE_P},
    {"BusinessAddresses", BusinessAddressBook, OPENFORM_ADRESSE_G},
    {"Projects", Projects, OPENFORM_PROJEKT},
    {"Tips", Tips, OPENFORM_TIPPS},
    {"CustomDatabase", MyApp, OPENFORM_MYAPP},
    {"Notes", Notes, OPENFORM_NOTIZ},
    {"Bookmarks", Bookmarks, OPENFORM_INTERNET},
};
