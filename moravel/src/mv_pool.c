/* Block pool: per-size classes carved from slabs, so that queue entries and operation states
 * do not go through the heap one by one. Slabs are only returned when the agent is released. */
#include "mv_internal.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#define MV_BLOCK_MAGIC 0x4d56424bu
#define MV_CLASS_HEAP 0xFFFFu

/* Every block is preceded by this 8-byte header, which names its class. */
typedef struct MvBlockHeader
{
    uint32_t cls;
    uint32_t magic;
} MvBlockHeader;

uint64_t mv_now_us(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000u + (uint64_t)ts.tv_nsec / 1000u;
}

uint32_t mv_now_ms(void)
{
    return (uint32_t)(mv_now_us() / 1000u);
}

static int classOf(uint32_t size, uint32_t* rounded)
{
    if (size == 0) {
        size = 1;
    }
    if (size <= MV_POOL_SMALL_MAX) {
        *rounded = (size + 7u) & ~7u;
        return (int)(*rounded / 8u - 1u);
    }
    if (size <= MV_POOL_MAX) {
        *rounded = (size + 31u) & ~31u;
        return (int)(MV_POOL_SMALL_MAX / 8u + (*rounded - MV_POOL_SMALL_MAX) / 32u - 1u);
    }
    return -1;
}

void mv_pool_init(MvPool* pool)
{
    memset(pool, 0, sizeof(*pool));
}

void mv_pool_destroy(MvPool* pool)
{
    for (uint32_t i = 0; i < MV_POOL_CLASSES; ++i) {
        MvPoolClass* c = &pool->classes[i];
        for (uint32_t s = 0; s < c->slabCount; ++s) {
            free(c->slabs[s]);
        }
        free(c->slabs);
    }
    memset(pool, 0, sizeof(*pool));
}

static int growClass(MvPoolClass* c, uint32_t cls, uint32_t blockSize)
{
    uint32_t stride = blockSize + (uint32_t)sizeof(MvBlockHeader);
    uint32_t count = 4096u / stride;
    if (count < 20u) {
        count = 20u;
    }
    if (c->slabCount == c->slabCap) {
        uint32_t cap = c->slabCap ? c->slabCap * 2u : 4u;
        void** slabs = realloc(c->slabs, cap * sizeof(void*));
        if (!slabs) {
            return 0;
        }
        c->slabs = slabs;
        c->slabCap = cap;
    }
    uint8_t* slab = malloc((size_t)stride * count);
    if (!slab) {
        return 0;
    }
    c->slabs[c->slabCount++] = slab;
    c->blockSize = blockSize;
    for (uint32_t i = count; i-- > 0;) {
        MvBlockHeader* h = (MvBlockHeader*)(slab + (size_t)i * stride);
        h->cls = cls;
        h->magic = 0;
        *(void**)(h + 1) = c->freeList;
        c->freeList = h + 1;
    }
    return 1;
}

int mv_pool_reserve(MvPool* pool, uint32_t size)
{
    uint32_t rounded;
    int cls = classOf(size, &rounded);
    if (cls < 0) {
        return 0;
    }
    MvPoolClass* c = &pool->classes[cls];
    return c->freeList ? 1 : growClass(c, (uint32_t)cls, rounded);
}

void* mv_pool_alloc(MvPool* pool, uint32_t size)
{
    uint32_t rounded;
    int cls = classOf(size, &rounded);
    if (cls < 0) {
        /* Too large for a class: a heap block with the same header. */
        MvBlockHeader* h = malloc(sizeof(MvBlockHeader) + (size_t)size);
        if (!h) {
            return NULL;
        }
        h->cls = MV_CLASS_HEAP;
        h->magic = MV_BLOCK_MAGIC;
        memset(h + 1, 0, size);
        return h + 1;
    }
    MvPoolClass* c = &pool->classes[cls];
    if (!c->freeList && !growClass(c, (uint32_t)cls, rounded)) {
        return NULL;
    }
    void* block = c->freeList;
    c->freeList = *(void**)block;
    MvBlockHeader* h = (MvBlockHeader*)block - 1;
    h->magic = MV_BLOCK_MAGIC;
    memset(block, 0, rounded);
    return block;
}

int mv_pool_free(MvPool* pool, void* block)
{
    if (!block) {
        return 0;
    }
    MvBlockHeader* h = (MvBlockHeader*)block - 1;
    if (h->magic != MV_BLOCK_MAGIC) {
        return 0; /* not a live block of this pool, or already returned */
    }
    h->magic = 0;
    if (h->cls == MV_CLASS_HEAP) {
        free(h);
        return 1;
    }
    if (h->cls >= MV_POOL_CLASSES) {
        return 0;
    }
    MvPoolClass* c = &pool->classes[h->cls];
    *(void**)block = c->freeList;
    c->freeList = block;
    return 1;
}

void* mv_alloc(MoravelAgent* agent, uint32_t size)
{
    pthread_mutex_lock(&agent->dataLock);
    void* p = mv_pool_alloc(&agent->pool, size);
    pthread_mutex_unlock(&agent->dataLock);
    return p;
}

void mv_free(MoravelAgent* agent, void* block)
{
    if (!block) {
        return;
    }
    pthread_mutex_lock(&agent->dataLock);
    mv_pool_free(&agent->pool, block);
    pthread_mutex_unlock(&agent->dataLock);
}

int32_t MORAVEL_CALL SCHEAGENT_RequestMemory(MoravelAgent* agent, void** out, uint32_t size)
{
    if (!agent || !out || size == 0) {
        if (out) {
            *out = NULL;
        }
        return MORAVEL_E_INVALIDARG;
    }
    *out = mv_alloc(agent, size);
    return *out ? MORAVEL_OK : MORAVEL_E_OUTOFMEMORY;
}

int32_t MORAVEL_CALL SCHEAGENT_ReturnMemory(MoravelAgent* agent, void* block)
{
    if (!agent || !block) {
        return MORAVEL_E_INVALIDARG;
    }
    pthread_mutex_lock(&agent->dataLock);
    int ok = mv_pool_free(&agent->pool, block);
    pthread_mutex_unlock(&agent->dataLock);
    return ok ? MORAVEL_OK : MORAVEL_E_INVALIDARG;
}

int32_t MORAVEL_CALL RawMemAlloc(uint32_t size, void** out)
{
    if (!out) {
        return MORAVEL_E_INVALIDARG;
    }
    *out = NULL;
    if (size == 0) {
        return MORAVEL_E_INVALIDARG;
    }
    *out = calloc(1, size);
    return *out ? MORAVEL_OK : MORAVEL_E_OUTOFMEMORY;
}

int32_t MORAVEL_CALL RawMemFree(void** p)
{
    if (!p) {
        return MORAVEL_E_INVALIDARG;
    }
    free(*p);
    *p = NULL;
    return MORAVEL_OK;
}
