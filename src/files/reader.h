// Reading the game's text files: the scene list, scene files and mesh files.
// Each is a stream of white-space-separated items in which every entry is a
// free label word, never examined, followed by its value; entries are known by
// their place alone. The C library's formatted input does the reading, so
// numbers read as scanf reads them.
//
// The readers print nothing. What they have to say about a file, above all
// why they stopped, they leave as records (readRecord) in what they return;
// the game prints its messages from those, and the level checker explains
// them at the file and line they name.
#pragma once

#include <cstddef>
#include <cstdio>

#include "common/vectorMath.h"

// File names in the data files are single words of at most this many
// characters; the text form gives the width of every %s that reads one.
#define MAX_FILENAME_LENGTH 256
#define MAX_FILENAME_LENGTH_AS_STRING "256"

// What a loader made of its file.
enum condition { failure = -1, unknown = 0, success = 1 };

// The kinds of file: they name their entries and the game's messages differently.
typedef enum fileKind { sceneListFile, sceneFile, drawnMeshFile, collisionMeshFile } fileKind;

// What a record says.
typedef enum readEvent {
    readFine,         // nothing: the reading went as it should
    readCannotOpen,   // the file cannot be opened
    readBadHeader,    // not a label and a count above 0
    readShortEntry,   // an entry that is not whole ends the file's reading
    readShortColour,  // a drawn mesh tolerates it: the missing parts are 128
    readShortCorner,  // a drawn mesh tolerates it: "not enough coordinates in vert"
    readListEnded,    // a mesh's triangles ended at an entry that is not a normal
    readNoFinalBreak, // a drawn mesh ended where a separator was due
    readTooFew,       // a collision mesh holds fewer triangles than its header says
    readMeshFailed,   // the mesh or collision mesh named by this entry did not load
    readOutOfMemory,  // the game refuses what it cannot hold
    // Values read whole that make no sense; the game reads on.
    readColourRange, // a mesh colour beyond 255: drawn as its low 8 bits
    readNotFinite,   // nan or inf in a mesh's position
    readTooFar,      // a mesh position beyond COORDINATE_LIMIT
    // Slips in an entry the game reads as whole: it takes the values it could,
    // and what follows them, if not a blank, as the next entry's label.
    readNoBracket,    // a triple or colour without its closing bracket
    readBlankBracket, // a blank before a triple's or colour's closing bracket
    readDecimalComma, // a number written with a comma for its decimal point
    // Words after the last entry a count asks for, which the game never reads.
    readUnread,
} readEvent;

const int FOUND_LENGTH = 60;

// One thing a reader has to say about a file: where (the line of the entry's
// first word, or the file's last line at its end; 0 for the file as a whole),
// which entry (counted from 0 in file order), what was to stand there and what
// stood there instead: the entry from its label to the word where reading
// stopped, blanks run together, "" at the end of the file.
typedef struct readRecord {
    readEvent what;
    fileKind kind;
    char file[MAX_FILENAME_LENGTH + 1];
    int line;
    int entry;
    // A header's count where it matters; the value read for an odd colour; for
    // a slip, 1 when the reading goes on out of step after it; for words left
    // unread, the count that would have the game read every whole entry.
    int count;
    const char *expected;
    char found[FOUND_LENGTH + 1];
} readRecord;

// An open data file, held whole in memory: a file is read once, and where an
// entry stands in it (its line, its text) is then known without reading it
// again. start is where the last entry began, expected what its value was to be.
typedef struct dataFile {
    FILE *f;
    char *text;
    long size;
    const char *name;
    fileKind kind;
    long start;
    const char *expected;
    long counted;    // lines are counted up to here,
    int line;        // and this is the line there
    int entries;     // begun so far: the next entry's number
    readRecord slip; // the first slip in an entry read whole, and how many there are
    int slips;
} dataFile;

// Opens name for reading; returns readFine, readCannotOpen or readOutOfMemory.
readEvent openData(dataFile *d, const char *name, fileKind kind);
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

// The line where the last entry began.
int entryLine(dataFile *d);
// After the last entry a count asks for, which is the given entry of the file:
// with words still to come, a readUnread record about them, its count
// wholeCount, else a readFine one. The reading stays where it was.
void recordRest(dataFile *d, readRecord *r, int entry, int wholeCount);
// How many times read succeeds on what follows; the reading stays where it
// was, and nothing read counts as an entry or a slip.
int wholeAhead(dataFile *d, bool (*read)(dataFile *look));
// A record about the last entry read, which is the given entry of the file.
// The record for a file that did not open names only the file.
void recordEntry(dataFile *d, readRecord *r, readEvent what, int entry, int count);
void recordUnopened(readRecord *r, readEvent what, const char *name, fileKind kind);

// How far a coordinate may be from the origin. Floats carry 24 bits: at 1000
// the step between neighbouring values is 2^-14, about 6e-5, a sixteenth of
// what a ball rolling at 0.1 units a second moves in a 0.01 s physics step;
// at 10,000 it is the whole of that, and slow motion and resting contacts
// come apart. The pack stays within 100.
const float COORDINATE_LIMIT = 1000.0f;
bool isFinite(vec3 v);
bool withinLimit(vec3 v); // each part, as its magnitude

// Makes room for element i of *array, an array of `size`-byte elements meant to
// hold at most `limit`. It grows by doubling from 16 and never past limit, so a
// count far beyond what a file holds fails on the first missing entry rather
// than on one huge allocation. New elements are zeroed. Returns 0 when memory
// runs out, leaving the array as it was.
int makeRoom(void **array, int *capacity, int i, int limit, size_t size);
