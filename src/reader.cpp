#include "reader.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

static readListener listener = nullptr;
static void *listenerContext = nullptr;

int openData(dataFile *d, const char *name)
{
    d->f = fopen(name, "r");
    d->name = name;
    d->start = d->stop = -1;
    return d->f != nullptr;
}

void closeData(dataFile *d)
{
    if (d->f) fclose(d->f);
    d->f = nullptr;
}

// Labels are notes for whoever reads the file: the word is skipped rather than
// stored, so any length is accepted and nothing can be written past a buffer,
// and it still counts as one conversion, as it would if it were kept.
static int entry(dataFile *d, const char *valueFormat, ...)
{
    if (listener) d->start = ftell(d->f);
    int n = fscanf(d->f, "%*s") == EOF ? 0 : 1;
    if (n) {
        va_list values;
        va_start(values, valueFormat);
        int converted = vfscanf(d->f, valueFormat, values);
        va_end(values);
        n += converted == EOF ? 0 : converted;
    }
    if (listener) d->stop = ftell(d->f);
    return n;
}

int readTriple(dataFile *d, float *a, float *b, float *c) { return entry(d, " [%f, %f, %f]", a, b, c); }

int readColour(dataFile *d, unsigned short *r, unsigned short *g, unsigned short *b)
{
    return entry(d, " [%hu, %hu, %hu]", r, g, b);
}

int readNumber(dataFile *d, float *value) { return entry(d, " %f", value); }

int readCount(dataFile *d, int *value) { return entry(d, " %d", value); }

int readFileName(dataFile *d, char *name) { return entry(d, " %" MAX_FILENAME_LENGTH_AS_STRING "s", name); }

int readSeparator(dataFile *d) { return getc(d->f); }

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

void listenToReading(readListener l, void *context)
{
    listener = l;
    listenerContext = context;
}

void noteReading(const dataFile *d, readEvent what, int entryNumber, int count)
{
    if (!listener) return;
    readNote note = {d->name, what, entryNumber, count, d->start, d->stop};
    listener(listenerContext, &note);
}
