#include "pyxera_internal.h"

#include <stdlib.h>
#include <string.h>

void pyx_seen_clear(pyx_seen* s)
{
    if (s->slots)
        memset(s->slots, 0, s->cap * sizeof *s->slots);
    s->count = 0;
}

void pyx_seen_free(pyx_seen* s)
{
    free(s->slots);
    s->slots = NULL;
    s->cap = 0;
    s->count = 0;
}

static int insert(uint64_t* slots, size_t cap, uint64_t key)
{
    size_t i = (size_t)(key ^ (key >> 29)) & (cap - 1);
    while (slots[i]) {
        if (slots[i] == key)
            return 0;
        i = (i + 1) & (cap - 1);
    }
    slots[i] = key;
    return 1;
}

int pyx_seen_add(pyx_seen* s, uint64_t key)
{
    int added;
    if (key == 0)
        key = 1; /* 0 marks empty slots */
    /* Keep the load below one half so that probing stays short. */
    if ((s->count + 1) * 2 > s->cap) {
        size_t ncap = s->cap ? s->cap * 2 : 256;
        uint64_t* n = calloc(ncap, sizeof *n);
        size_t i;
        if (!n)
            return -1;
        for (i = 0; i < s->cap; ++i) {
            if (s->slots[i])
                insert(n, ncap, s->slots[i]);
        }
        free(s->slots);
        s->slots = n;
        s->cap = ncap;
    }
    added = insert(s->slots, s->cap, key);
    s->count += (size_t)added;
    return added;
}
