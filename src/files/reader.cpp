#include "files/reader.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace
{

const size_t FIRST_READ = 1 << 16;

bool blank(char c) { return isspace((unsigned char)c) != 0; }

// The whole of f, or null when memory runs out. A regular file is read in one
// go into a buffer of its size (and a byte more, to see the end).
char *readWhole(FILE *f, long *size)
{
    struct stat st;
    size_t capacity = fstat(fileno(f), &st) == 0 && st.st_size > 0 ? (size_t)st.st_size + 1 : FIRST_READ,
           n = 0;
    char *text = nullptr;
    for (;;) {
        if (n == capacity || !text) {
            capacity = text ? 2 * capacity : capacity;
            char *bigger = (char *)realloc(text, capacity);
            if (!bigger) {
                free(text);
                return nullptr;
            }
            text = bigger;
        }
        size_t got = fread(text + n, 1, capacity - n, f);
        if (got == 0) break;
        n += got;
    }
    *size = (long)n;
    return text;
}

// What an entry's value is, for the slips a value of its kind can hide.
enum valueShape { plainValue, numberValue, bracketedValue };

void noteSlip(dataFile *d, readEvent what, long offender, bool outOfStep);

// A value the game reads whole can still be written wrong: a bracketed one is
// read up to its third number whether or not the "]" follows at once, and a
// number up to a comma. Whatever stands there is read as the next label.
void lookForSlip(dataFile *d, valueShape shape)
{
    long at = ftell(d->f);
    char next = at < d->size ? d->text[at] : ' ';
    if (shape == bracketedValue && at > 0 && d->text[at - 1] != ']') {
        long word = at;
        while (word < d->size && blank(d->text[word]))
            word++;
        if (next == ',')
            noteSlip(d, readDecimalComma, at, true);
        else if (word > at && word < d->size && d->text[word] == ']')
            noteSlip(d, readBlankBracket, word, true);
        else
            noteSlip(d, readNoBracket, at, !blank(next));
    } else if (shape == numberValue && next == ',' && at + 1 < d->size &&
               isdigit((unsigned char)d->text[at + 1])) {
        noteSlip(d, readDecimalComma, at, true);
    }
}

// Labels are notes for whoever reads the file: the word is skipped rather than
// stored, so any length is accepted and nothing can be written past a buffer,
// and it still counts as one conversion, as it would if it were kept. An entry
// read whole (whole conversions) is looked at for slips.
int entry(dataFile *d, const char *expected, valueShape shape, int whole, const char *valueFormat, ...)
{
    d->start = ftell(d->f);
    d->expected = expected;
    d->entries++;
    int n = fscanf(d->f, "%*s") == EOF ? 0 : 1;
    if (n) {
        va_list values;
        va_start(values, valueFormat);
        int converted = vfscanf(d->f, valueFormat, values);
        va_end(values);
        n += converted == EOF ? 0 : converted;
    }
    if (n == whole) lookForSlip(d, shape);
    return n;
}

// The line of the first word at or after offset, or of the file's end (a line
// break that ends the file opens no line of its own). Lines are counted on
// from the last place asked about, so reading a file through counts it once.
int lineAt(dataFile *d, long offset)
{
    if (offset < 0 || !d->text) return 0;
    long word = offset;
    while (word < d->size && blank(d->text[word]))
        word++;
    if (word == d->size && word > 0 && d->text[word - 1] == '\n') word--;
    if (word < d->counted) d->counted = 0, d->line = 1;
    const char *end = d->text + word;
    for (const char *p = d->text + d->counted; (p = (const char *)memchr(p, '\n', (size_t)(end - p))); p++)
        d->line++;
    d->counted = word;
    return d->line;
}

} // namespace

readEvent openData(dataFile *d, const char *name, fileKind kind)
{
    *d = dataFile{};
    d->name = name;
    d->kind = kind;
    d->start = -1;
    d->line = 1;
    FILE *f = fopen(name, "rb");
    if (!f) return readCannotOpen;
    d->text = readWhole(f, &d->size);
    fclose(f);
    if (d->text) d->f = fmemopen(d->text, (size_t)d->size, "r");
    if (d->f) return readFine;
    closeData(d);
    return readOutOfMemory;
}

void closeData(dataFile *d)
{
    if (d->f) fclose(d->f);
    free(d->text);
    d->f = nullptr;
    d->text = nullptr;
}

int readTriple(dataFile *d, float *a, float *b, float *c)
{
    return entry(d, "[x, y, z]", bracketedValue, 4, " [%f, %f, %f]", a, b, c);
}

int readColour(dataFile *d, unsigned short *r, unsigned short *g, unsigned short *b)
{
    return entry(d, "[red, green, blue]", bracketedValue, 4, " [%hu, %hu, %hu]", r, g, b);
}

int readNumber(dataFile *d, float *value) { return entry(d, "a number", numberValue, 2, " %f", value); }

int readCount(dataFile *d, int *value) { return entry(d, "a whole number", plainValue, 2, " %d", value); }

int readFileName(dataFile *d, char *name)
{
    return entry(d, "a file name", plainValue, 2, " %" MAX_FILENAME_LENGTH_AS_STRING "s", name);
}

int readSeparator(dataFile *d) { return getc(d->f); }

int entryLine(dataFile *d) { return lineAt(d, d->start); }

void recordUnopened(readRecord *r, readEvent what, const char *name, fileKind kind)
{
    *r = readRecord{};
    r->what = what;
    r->kind = kind;
    snprintf(r->file, sizeof r->file, "%s", name);
}

void recordEntry(dataFile *d, readRecord *r, readEvent what, int entryNumber, int count)
{
    recordUnopened(r, what, d->name, d->kind);
    r->line = entryLine(d);
    r->entry = entryNumber;
    r->count = count;
    r->expected = d->expected;
    // The entry from its first word to the end of the word where reading stopped.
    long from = d->start, to = d->f ? ftell(d->f) : d->size, n = 0;
    while (from < d->size && blank(d->text[from]))
        from++;
    while (to < d->size && !blank(d->text[to]))
        to++;
    for (long i = from; i < to && n < FOUND_LENGTH; i++)
        if (!blank(d->text[i]) || (n > 0 && r->found[n - 1] != ' '))
            r->found[n++] = blank(d->text[i]) ? ' ' : d->text[i];
    while (n > 0 && r->found[n - 1] == ' ')
        r->found[--n] = '\0';
}

namespace
{

// The record of a slip runs from the entry's label to the end of the word
// where the slip shows, offender.
void noteSlip(dataFile *d, readEvent what, long offender, bool outOfStep)
{
    if (d->slips++ > 0) return;
    long at = ftell(d->f);
    fseek(d->f, offender, SEEK_SET);
    recordEntry(d, &d->slip, what, d->entries - 1, outOfStep);
    fseek(d->f, at, SEEK_SET);
}

} // namespace

void recordRest(dataFile *d, readRecord *r, int entryNumber, int wholeCount)
{
    *r = readRecord{};
    long at = ftell(d->f), word = at;
    while (word < d->size && blank(d->text[word]))
        word++;
    if (word == d->size) return;
    d->start = word;
    d->expected = "";
    fseek(d->f, 0, SEEK_END);
    recordEntry(d, r, readUnread, entryNumber, wholeCount);
    fseek(d->f, at, SEEK_SET);
}

int wholeAhead(dataFile *d, bool (*read)(dataFile *look))
{
    dataFile look = *d;
    long at = ftell(d->f);
    int n = 0;
    while (read(&look))
        n++;
    fseek(d->f, at, SEEK_SET);
    return n;
}

bool isFinite(vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool withinLimit(vec3 v)
{
    return std::fabs(v.x) <= COORDINATE_LIMIT && std::fabs(v.y) <= COORDINATE_LIMIT &&
           std::fabs(v.z) <= COORDINATE_LIMIT;
}

int makeRoom(void **array, int *capacity, int i, int limit, size_t size)
{
    if (i < *capacity) return 1;
    long grown = *capacity > 0 ? 2L * *capacity : 16;
    if (grown > limit) grown = limit;
    if (grown <= i) grown = (long)i + 1;
    void *bigger = realloc(*array, (size_t)grown * size);
    if (bigger == nullptr) return 0;
    memset((char *)bigger + (size_t)*capacity * size, 0, (size_t)(grown - *capacity) * size);
    *array = bigger;
    *capacity = (int)grown;
    return 1;
}
