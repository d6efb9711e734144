/* The records the programme guide and the guide add-in exchange, and the
 * add-in's exports. C, so that any host can include it. Fields are in the
 * guide's order with fixed-width integers and natural alignment (no
 * packing); pointers take the host's width, so a 32-bit build has the
 * guide's own offsets and a 64-bit build moves each pointer to an 8-byte
 * boundary. */
#ifndef KELBO_ADDIN_GUIDE_RECORDS_H
#define KELBO_ADDIN_GUIDE_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define KELBO_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define KELBO_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* The caller removes the arguments; only 32-bit x86 has a choice. */
#if defined(__i386__)
#define KELBO_CDECL __attribute__((cdecl))
#else
#define KELBO_CDECL
#endif

enum { KELBO_MENU_TEXT_SIZE = 52, KELBO_MAX_TEMPLATES = 10 };

/* The start date and time, in the Windows SYSTEMTIME layout. */
typedef struct KelboSystemTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek; /* 0 = Sunday */
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t millisecond;
} KelboSystemTime;

/* One programme, handed by the host to a record command. Texts are
 * NUL-terminated 8-bit strings. */
typedef struct KelboProgramme {
    uint32_t hostWord;
    KelboSystemTime start;
    uint32_t duration; /* minutes */
    const char* name;
    const char* category;
    const char* description;
    const char* channelName;
    const char* channelNumber;
    uint32_t reminderId;
    uint32_t smartSearchId;
    uint32_t favouriteId;
} KelboProgramme;

typedef void(KELBO_CDECL* KelboRecordCommand)(const KelboProgramme* programme);

/* One entry of the guide's pop-up menu for a programme. */
typedef struct KelboMenuItem {
    uint32_t hostWord;
    char text[KELBO_MENU_TEXT_SIZE];
    int32_t flag;
    KelboRecordCommand command;
} KelboMenuItem;

/* Messages for the user; `text` lives only during the call. */
typedef void(KELBO_CDECL* KelboMessageCallback)(const char* text, void* context);

/* The exports, as a host resolves them by name. */
typedef void(KELBO_CDECL* KelboPopupProgrammeMenu)(void* area, int32_t fill);
typedef void(KELBO_CDECL* KelboSetMessageCallback)(KelboMessageCallback callback, void* context);

#define KELBO_EXPORT_POPUP_MENU "OnPopupProgrammeMenuA"
#define KELBO_EXPORT_RECORD_COMMAND_PREFIX "OnRecordCommand"
#define KELBO_EXPORT_SET_MESSAGE_CALLBACK "SetMessageCallback"

KELBO_STATIC_ASSERT(sizeof(KelboSystemTime) == 16, "SYSTEMTIME is 16 bytes");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, start) == 4, "start");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, duration) == 20, "duration");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, name) == 24, "name");
KELBO_STATIC_ASSERT(offsetof(KelboMenuItem, text) == 4, "menu text");
KELBO_STATIC_ASSERT(offsetof(KelboMenuItem, flag) == 56, "menu flag");

#if UINTPTR_MAX == 0xFFFFFFFFu
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, category) == 28, "category");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, description) == 32, "description");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, channelName) == 36, "channel name");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, channelNumber) == 40, "channel number");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, reminderId) == 44, "reminder id");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, smartSearchId) == 48, "smart-search id");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, favouriteId) == 52, "favourite id");
KELBO_STATIC_ASSERT(sizeof(KelboProgramme) == 56, "programme record size");
KELBO_STATIC_ASSERT(offsetof(KelboMenuItem, command) == 60, "menu command");
KELBO_STATIC_ASSERT(sizeof(KelboMenuItem) == 64, "menu item size");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, category) == 32, "category");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, description) == 40, "description");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, channelName) == 48, "channel name");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, channelNumber) == 56, "channel number");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, reminderId) == 64, "reminder id");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, smartSearchId) == 68, "smart-search id");
KELBO_STATIC_ASSERT(offsetof(KelboProgramme, favouriteId) == 72, "favourite id");
KELBO_STATIC_ASSERT(sizeof(KelboProgramme) == 80, "programme record size");
KELBO_STATIC_ASSERT(offsetof(KelboMenuItem, command) == 64, "menu command");
KELBO_STATIC_ASSERT(sizeof(KelboMenuItem) == 72, "menu item size");
#endif

#ifdef __cplusplus
}
#endif

#endif
