// Reading the game's text files: the scene list, scene files and mesh files.
// Each is a stream of white-space-separated items in which every entry is a
// free label word, never examined, followed by its value; entries are known by
// their place alone. The C library's formatted input does the reading, so
// numbers read as scanf reads them.
#pragma once

#include <cstddef>
#include <cstdio>

#include "includes.h"

// An open data file. start and stop are the byte offsets at which the last
// entry began and where reading it stopped, kept only while someone listens.
typedef struct dataFile {
    FILE *f;
    const char *name;
    long start, stop;
} dataFile;

// Opens name for reading; returns 0 when it cannot be opened.
int openData(dataFile *d, const char *name);
void closeData(dataFile *d);

// One entry each. The result counts the conversions made, the label as one, so
// an entry is whole at 4 for a triple or a colour and at 2 for the others; a
// file that ends before the label gives 0. A label of any length is skipped
// without being stored.
int readTriple(dataFile *d, float *a, float *b, float *c); // label [a, b, c]
int readColour(dataFile *d, unsigned short *r, unsigned short *g, unsigned short *b);
int readNumber(dataFile *d, float *value);
int readCount(dataFile *d, int *value);
// name holds MAX_FILENAME_LENGTH characters and the terminator; the rest of a
// longer word stays in the file to be read as the next label.
int readFileName(dataFile *d, char *name);
// The one character that parts the triangles of a mesh; EOF at the end.
int readSeparator(dataFile *d);

// Makes room for element i of *array, an array of `size`-byte elements meant to
// hold at most `limit`. It grows by doubling from 16 and never past limit, so a
// count far beyond what a file holds fails on the first missing entry rather
// than on one huge allocation. New elements are zeroed. Returns 0 when memory
// runs out, leaving the array as it was.
int makeRoom(void **array, int *capacity, int i, int limit, size_t size);

// What the readers noticed on the way, for a tool that explains a file to its
// author. The game itself never listens.
typedef enum readEvent {
    readEntry, // a whole entry, where it began (a scene's entries and a mesh's normals)
    readCannotOpen,
    readBadHeader,    // not a label and a count above 0
    readShortEntry,   // an entry that is not whole ends the file's reading
    readShortColour,  // a drawn mesh tolerates it: the missing parts are 128
    readShortCorner,  // a drawn mesh tolerates it: "not enough coordinates in vert"
    readListEnded,    // a drawn mesh's triangles ended at an entry that is not a normal
    readNoFinalBreak, // a drawn mesh ended where a separator was due
    readTooFew,       // a collision mesh holds fewer triangles than its header says
    readMeshFailed,   // the mesh or collision mesh named by this entry did not load
    readOutOfMemory,
} readEvent;

// entry counts a file's entries from 0 in file order (a mesh: the header, then
// seven a triangle); count is a header's count where it matters.
typedef struct readNote {
    const char *file;
    readEvent what;
    int entry;
    int count;
    long start, stop;
} readNote;

typedef void (*readListener)(void *context, const readNote *note);
void listenToReading(readListener listener, void *context);
void noteReading(const dataFile *d, readEvent what, int entry, int count);
