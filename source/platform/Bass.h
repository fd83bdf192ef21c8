// The audio library's calls the presentation uses, in their familiar BASS form.
//
// One output, initialised by BASS_Init and released by BASS_Free. A stream is an
// MP3 decoded whole when it is created; it plays once from its start and is inactive
// before it is played and after its end. Positions are byte counts of the decoded
// 16-bit PCM that has been played (whole frames), and BASS_ChannelBytes2Seconds
// divides by rate × channels × 2 exactly.
//
// Output: the default sound device through SDL. When no device opens (no sound
// card) the output is silent and the position follows the steady clock from the
// moment the stream was played. Device 0 asks for that silent output directly.
//
// Failures return 0 (FALSE, handle 0, BASS_ACTIVE_STOPPED), (QWORD)-1 for a
// position and -1.0 for seconds; nothing is printed, and BASS_ErrorGetCode() tells
// why the calling thread's last call failed. Calls may come from any thread.
#pragma once

#include <cstdint>

#ifdef _WIN32
typedef unsigned long DWORD;  // windows.h's own type: 32 bits there too
#else
typedef uint32_t DWORD;
#endif
typedef uint64_t QWORD;
typedef int BOOL;
typedef DWORD HSTREAM;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define BASS_POS_BYTE 0
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1

#define BASS_OK 0
#define BASS_ERROR_MEM 1        // out of memory
#define BASS_ERROR_FILEOPEN 2   // the file cannot be opened or read
#define BASS_ERROR_HANDLE 5     // not a stream
#define BASS_ERROR_INIT 8       // BASS_Init has not succeeded
#define BASS_ERROR_ALREADY 14   // already initialised
#define BASS_ERROR_ILLPARAM 20  // a parameter is invalid
#define BASS_ERROR_FILEFORM 41  // the data holds no audio we can decode

// device: -1 the default output, 0 no sound (silent), n >= 1 the n-th playback device.
// freq > 0. win and dsguid are accepted and ignored. FALSE when already initialised.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* dsguid);

// mem FALSE: file is a path (UTF-8); offset/length select a part of the file, length 0
// meaning up to its end. mem TRUE: file points to length bytes of MP3 data (offset is
// added to the pointer). flags are ignored. 0 when the output is not initialised or
// the data holds no decodable audio.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);

// restart TRUE plays from the start; FALSE starts a stream that was never played and
// otherwise leaves it as it is.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);

// BASS_ACTIVE_PLAYING while playing; BASS_ACTIVE_STOPPED before play, after the end
// and for a handle that is not a stream.
DWORD BASS_ChannelIsActive(DWORD handle);

// Only mode BASS_POS_BYTE is known.
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);

// Stops and frees every stream and the output. FALSE when not initialised.
BOOL BASS_Free(void);

// BASS_OK, or why the last call of this thread failed.
int BASS_ErrorGetCode(void);

// Extension for rendering frames at chosen times (not part of BASS). With the manual
// clock on, the next BASS_Init opens no device and succeeds; streams still decode so
// their length is known, count as playing from creation, and their position is the
// time last given to bassSetManualSeconds (rounded to a frame, clamped to the stream);
// a stream becomes inactive once that time reaches its end.
void bassUseManualClock(bool on);
void bassSetManualSeconds(double seconds);

// Extension for loading (not part of BASS): starts reading and decoding the whole file at
// `path` on another thread and returns at once. The next BASS_StreamCreateFile(FALSE, path,
// 0, 0, ...) takes that result (waiting for it if need be) instead of decoding again, with
// the same outcome and error codes; nothing else changes. Preparing a path that is
// already prepared and not yet taken does nothing.
void bassPrepareFile(const char* path);

// Extension for the authoring tool (not part of BASS): pause or resume a stream that
// was played, and move its position to `seconds` (rounded to a frame, clamped to the
// stream); a stream that is playing plays on from there. FALSE for an unknown handle.
// Pausing and seeking leave the manual clock to its caller.
BOOL bassPause(DWORD handle, bool paused);
BOOL bassSeek(DWORD handle, double seconds);
// The stream's whole length in seconds; -1.0 for an unknown handle.
double bassLengthSeconds(DWORD handle);

// What BASS_Init opened, for diagnostics and tests.
enum class BassOutput { None, Device, Silent, Manual };
BassOutput bassOutput();
