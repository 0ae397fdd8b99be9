// The four folders of the program, all beneath the folder that holds the
// program: the application folder itself, "img", "data" and "export".
//
// Every folder is written with the platform's separator and ends with it, so
// a file name is simply appended (THE_DATA_PATH + "startlang.dbf"). The
// folders are installed with the program; nothing here creates them.
#pragma once

#include <QString>

struct ApplicationFolders {
    QString application;
    QString images;
    QString data;
    QString exports;
};

// The folders beneath programFolder (an absolute path, with or without a
// trailing separator).
ApplicationFolders FoldersBeneath(const QString& programFolder);

// Sets THE_APP_PATH, THE_IMG_PATH, THE_DATA_PATH and THE_EXPORT_PATH.
void SET_FOLDERS(const ApplicationFolders& folders);
