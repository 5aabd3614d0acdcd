#pragma once
// The reserved vtable slots of the host's interfaces that devhost's objects do not provide.
// Inside a class, UNUSED_SLOTS(8, 9, 11) overrides Reserved8, Reserved9 and Reserved11 (up to
// sixteen at once); each answers through the class's own Unused("ReservedN").

#define UNUSED_SLOT(n)                                 \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { \
        return Unused("Reserved" #n);                  \
    }

#define MARUPO_SLOTS_1(n) UNUSED_SLOT(n)
#define MARUPO_SLOTS_2(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_1(__VA_ARGS__)
#define MARUPO_SLOTS_3(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_2(__VA_ARGS__)
#define MARUPO_SLOTS_4(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_3(__VA_ARGS__)
#define MARUPO_SLOTS_5(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_4(__VA_ARGS__)
#define MARUPO_SLOTS_6(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_5(__VA_ARGS__)
#define MARUPO_SLOTS_7(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_6(__VA_ARGS__)
#define MARUPO_SLOTS_8(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_7(__VA_ARGS__)
#define MARUPO_SLOTS_9(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_8(__VA_ARGS__)
#define MARUPO_SLOTS_10(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_9(__VA_ARGS__)
#define MARUPO_SLOTS_11(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_10(__VA_ARGS__)
#define MARUPO_SLOTS_12(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_11(__VA_ARGS__)
#define MARUPO_SLOTS_13(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_12(__VA_ARGS__)
#define MARUPO_SLOTS_14(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_13(__VA_ARGS__)
#define MARUPO_SLOTS_15(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_14(__VA_ARGS__)
#define MARUPO_SLOTS_16(n, ...) UNUSED_SLOT(n) MARUPO_SLOTS_15(__VA_ARGS__)
#define MARUPO_SLOTS_PICK(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16, \
                          name, ...)                                                             \
    name
#define UNUSED_SLOTS(...)                                                                 \
    MARUPO_SLOTS_PICK(__VA_ARGS__, MARUPO_SLOTS_16, MARUPO_SLOTS_15, MARUPO_SLOTS_14,     \
                      MARUPO_SLOTS_13, MARUPO_SLOTS_12, MARUPO_SLOTS_11, MARUPO_SLOTS_10, \
                      MARUPO_SLOTS_9, MARUPO_SLOTS_8, MARUPO_SLOTS_7, MARUPO_SLOTS_6,     \
                      MARUPO_SLOTS_5, MARUPO_SLOTS_4, MARUPO_SLOTS_3, MARUPO_SLOTS_2,     \
                      MARUPO_SLOTS_1)                                                     \
    (__VA_ARGS__)
