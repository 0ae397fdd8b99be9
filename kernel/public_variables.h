// The public variables every module shares for the whole run. They are
// created with their start values here and assigned by the start-up routine,
// the statistics and the modules, by these names.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

inline QString THE_RECNO;                         // a record number as text, before a walk
inline double THE_ANZAHL = 0;                     // the count a count line shows
inline QString CPESQ;                             // the search text in capitals; filters read it
inline QString THE_LANG = "EN";                   // "DE", "AM" or "BR" once the main window is up
inline QString THE_APP_NAME = "Varnel Kesp 2.0";  // title of every message box
inline QString THE_APP_NAME2 = "";                // name of the user's own application
inline bool KOPIERT = false;                      // tips: state flag
inline double WAS = 0;                            // tips: search mode, 1 or 2
inline int THE_REC = 0;                           // record number remembered across a save
// The folders end with the platform's separator: THE_DATA_PATH + "x.dbf".
inline QString THE_APP_PATH;     // application folder, the folder that holds the program
inline QString THE_IMG_PATH;     // image folder
inline QString THE_DATA_PATH;    // data folder
inline QString THE_EXPORT_PATH;  // export folder
