/* Devices, tracks and track files. */
#include "sync/sync.h"

#include "platform/Assert.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define SYNC_DATA_SOURCE "source\\sync\\data"

int sync_add_track(struct sync_device* d, const char* name) {
    struct sync_track* t;
    struct sync_track** grown;
    HV_ASSERT_AT(sync_find_track(d, name) < 0, "sync_find_track(d, name) < 0", SYNC_DATA_SOURCE, 21);

    t = (struct sync_track*)malloc(sizeof(*t));
    if (!t) return -1;
    t->name = strdup(name);
    t->keys = NULL;
    t->key_count = 0;
    if (!t->name) {
        free(t);
        return -1;
    }
    grown = (struct sync_track**)realloc(d->tracks, sizeof(*d->tracks) * (size_t)(d->track_count + 1));
    if (!grown) {
        free(t->name);
        free(t);
        return -1;
    }
    d->tracks = grown;
    d->tracks[d->track_count] = t;
    return (int)d->track_count++;
}

static void* io_open(const char* filename, const char* mode) { return fopen(filename, mode); }
static size_t io_read(void* ptr, size_t size, size_t nitems, void* stream) {
    return fread(ptr, size, nitems, (FILE*)stream);
}
static int io_close(void* stream) { return fclose((FILE*)stream); }

struct sync_device* sync_open_device(const char* prefix) {
    struct sync_device* d = (struct sync_device*)malloc(sizeof(*d));
    if (!d) return NULL;
    d->prefix = strdup(prefix);
    if (!d->prefix) {
        free(d);
        return NULL;
    }
    d->tracks = NULL;
    d->track_count = 0;
    d->io.open = io_open;
    d->io.read = io_read;
    d->io.close = io_close;
    return d;
}

void sync_close_device(struct sync_device* d) {
    uint64_t i;
    if (!d) return;
    for (i = 0; i < d->track_count; ++i) {
        free(d->tracks[i]->keys);
        free(d->tracks[i]->name);
        free(d->tracks[i]);
    }
    free(d->tracks);
    free(d->prefix);
    free(d);
}

int sync_find_track(const struct sync_device* d, const char* name) {
    uint64_t i;
    for (i = 0; i < d->track_count; ++i)
        if (strcmp(name, d->tracks[i]->name) == 0) return (int)i;
    return -1;
}

const char* sync_track_file_name(const char* prefix, const char* name) {
    static char temp[SYNC_MAX_FILE_NAME + 1];
    size_t prefix_length = strlen(prefix);
    size_t name_length = strlen(name);
    /* Refused rather than cut: a cut name would silently load some other file. */
    if (prefix_length + 1 + name_length + 6 > SYNC_MAX_FILE_NAME) return NULL;
    memcpy(temp, prefix, prefix_length);
    temp[prefix_length] = '_';
    memcpy(temp + prefix_length + 1, name, name_length);
    memcpy(temp + prefix_length + 1 + name_length, ".track", 7);
    return temp;
}

static int read_exact(struct sync_device* d, void* file, void* buffer, size_t size) {
    return d->io.read(buffer, size, 1, file) == 1;
}

/* Why the keys cannot be used, or NULL when they can. A value that is not finite,
 * or two neighbours whose single-precision difference overflows, would turn into
 * infinities or NaN during evaluation and reach the scene's geometry. */
static const char* keys_problem(const struct sync_key* keys, int count) {
    int i;
    for (i = 0; i < count; ++i) {
        if (!isfinite(keys[i].value)) return "a value that is not a finite number";
        if (i == 0) continue;
        if (keys[i].row <= keys[i - 1].row) return "rows that do not strictly ascend";
        if (!isfinite((float)(keys[i].value - keys[i - 1].value))) return "neighbouring values too far apart";
    }
    return NULL;
}

/* Keys are read into an array that grows with what the file really holds, so a
 * hostile count cannot make us allocate gigabytes before the file runs out.
 * Returns NULL on success, otherwise why the track was refused. */
static const char* read_keys(struct sync_device* d, void* file, struct sync_track* t, int count) {
    struct sync_key* keys = NULL;
    const char* problem = NULL;
    int capacity = 0;
    int i;
    for (i = 0; i < count; ++i) {
        int32_t row = 0;
        float value = 0.0f;
        int8_t type = 0;
        if (i == capacity) {
            int wanted = capacity == 0 ? (count < 1024 ? count : 1024)
                                       : (capacity > count / 2 ? count : capacity * 2);
            struct sync_key* grown = (struct sync_key*)realloc(keys, sizeof(*keys) * (size_t)wanted);
            if (!grown) {
                free(keys);
                return "out of memory for its keys";
            }
            keys = grown;
            capacity = wanted;
        }
        if (!read_exact(d, file, &row, 4) || !read_exact(d, file, &value, 4) || !read_exact(d, file, &type, 1)) {
            free(keys);
            return "shorter than its key count";
        }
        keys[i].row = row;
        keys[i].value = value;
        keys[i].type = type;
    }
    problem = keys_problem(keys, count);
    if (problem) {
        free(keys);
        return problem;
    }
    t->keys = keys;
    t->key_count = (uint64_t)count;
    return NULL;
}

/* A refused track says so once on standard error; the film goes on without it. */
static int refuse(const char* file_name, const char* problem) {
    fprintf(stderr, "sync: %s refused (%s); the track stays at 0.0\n", file_name, problem);
    return -1;
}

int sync_load_track(struct sync_device* d, struct sync_track* t) {
    uint64_t count = 0;
    const char* problem = NULL;
    void* file;
    const char* file_name = sync_track_file_name(d->prefix, t->name);
    if (!file_name) {
        fprintf(stderr, "sync: track '%s' refused: its file name would be longer than %d characters\n", t->name,
                SYNC_MAX_FILE_NAME);
        return -1;
    }
    file = d->io.open(file_name, "rb");
    if (!file) return -1;

    if (!read_exact(d, file, &count, 8))
        problem = "shorter than its 8-byte key count";
    else if (count > 0x7FFFFFFFu)
        problem = "a key count beyond 2147483647";
    else if (count > 0)
        problem = read_keys(d, file, t, (int)count);
    d->io.close(file);
    return problem ? refuse(file_name, problem) : 0;
}

int sync_set_keys(struct sync_track* t, const struct sync_key* keys, uint64_t count, const char** problem) {
    struct sync_key* copy = NULL;
    const char* why = count > 0x7FFFFFFFu ? "a key count beyond 2147483647" : NULL;
    if (!why && count > 0) why = keys_problem(keys, (int)count);
    if (!why && count > 0) {
        copy = (struct sync_key*)malloc(sizeof(*copy) * (size_t)count);
        if (!copy) why = "out of memory for its keys";
        else memcpy(copy, keys, sizeof(*copy) * (size_t)count);
    }
    if (why) {
        if (problem) *problem = why;
        return -1;
    }
    free(t->keys);
    t->keys = copy;
    t->key_count = count;
    return 0;
}

const struct sync_track* sync_track_by_name(struct sync_device* d, const char* name) {
    int idx = sync_find_track(d, name);
    if (idx >= 0) return d->tracks[idx];

    idx = sync_add_track(d, name);
    if (idx < 0) return NULL;
    sync_load_track(d, d->tracks[idx]);
    return d->tracks[idx];
}
