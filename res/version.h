#pragma once
// The add-in's version, kept here only: the version resource, the about box's version string
// (string 104), the installer and the release files take it from these three numbers. The
// version is written "MAJOR.MINORPATCH" ("0.96"); the file version is MAJOR, MINOR, PATCH, 0.
#define MARUPO_VERSION_MAJOR 0
#define MARUPO_VERSION_MINOR 9
#define MARUPO_VERSION_PATCH 6

#define MARUPO_VERSION_STRINGIZE_(x) #x
#define MARUPO_VERSION_STRINGIZE(x) MARUPO_VERSION_STRINGIZE_(x)
#define MARUPO_VERSION_TEXT                            \
    MARUPO_VERSION_STRINGIZE(MARUPO_VERSION_MAJOR)     \
    "." MARUPO_VERSION_STRINGIZE(MARUPO_VERSION_MINOR) \
        MARUPO_VERSION_STRINGIZE(MARUPO_VERSION_PATCH)
#define MARUPO_FILE_VERSION_TEXT                                                       \
    MARUPO_VERSION_STRINGIZE(MARUPO_VERSION_MAJOR)                                     \
    ", " MARUPO_VERSION_STRINGIZE(MARUPO_VERSION_MINOR) ", " MARUPO_VERSION_STRINGIZE( \
        MARUPO_VERSION_PATCH) ", 0"
