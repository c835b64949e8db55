/*
 * The audio library layer: decoding, tempo/pitch, push streams, DSP routines, playback,
 * encoder hand-off and tags, as a C-style API of global functions.
 *
 * Units: positions and lengths in bytes of the channel's own 16-bit interleaved sample
 * stream (one frame = chans * 2 bytes); rates in Hz; volume as a linear gain; tempo in
 * percent (0 = unchanged); pitch in semitones (0 = unchanged); seconds as double.
 *
 * Handles are non-zero 32-bit values from one registry. Every call on 0 or on a freed handle
 * fails without effect and sets the calling thread's error code (BASS_ErrorGetCode).
 *
 * Threads: every function may be called from the UI thread or from a DSP routine running on
 * the library's audio thread, except BASS_Init/BASS_Free (UI thread only,
 * never from a DSP routine). DSPPROC routines run on the audio thread.
 *
 * Text: with BASS_UNICODE, file names and command lines are UTF-16 (char16_t) strings;
 * without it they are narrow strings in the locale's encoding (UTF-8 on Linux).
 */
#ifndef CORVANEL_AUDIO_BASS_H
#define CORVANEL_AUDIO_BASS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint64_t QWORD;
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

typedef DWORD HSTREAM; /* a stream */
typedef DWORD HCHANNEL;
typedef DWORD HDSP;    /* a DSP routine attached to a channel */
typedef DWORD HENCODE; /* an encoder */
typedef DWORD HSYNC;   /* a sync set on a channel */

/* Version of every part of the layer, 0xMMmm0000 (major, minor). */
#define CORVANEL_AUDIO_VERSION 0x01030000u

/* Error codes (BASS_ErrorGetCode). */
#define BASS_OK 0
#define BASS_ERROR_MEM 1       /* out of memory */
#define BASS_ERROR_FILEOPEN 2  /* the file could not be opened (missing, a directory, no access) */
#define BASS_ERROR_DRIVER 3    /* no output driver could be opened */
#define BASS_ERROR_HANDLE 5    /* 0, freed or wrong kind of handle */
#define BASS_ERROR_FORMAT 6    /* unsupported sample format */
#define BASS_ERROR_POSITION 7  /* invalid position */
#define BASS_ERROR_INIT 8      /* BASS_Init has not been called */
#define BASS_ERROR_START 9     /* output is stopped (BASS_Stop) */
#define BASS_ERROR_ALREADY 14  /* already initialised */
#define BASS_ERROR_ILLTYPE 19  /* attribute or option not valid for this channel */
#define BASS_ERROR_ILLPARAM 20 /* an illegal parameter */
#define BASS_ERROR_DEVICE 23   /* illegal device number */
#define BASS_ERROR_NOPLAY 24   /* the channel is not playing */
#define BASS_ERROR_FREQ 25     /* illegal sample rate */
#define BASS_ERROR_NOTFILE 27  /* the stream is not a file stream */
#define BASS_ERROR_CREATE 33   /* could not create the file or start the program */
#define BASS_ERROR_NOTAVAIL 37 /* requested data or feature is not available */
#define BASS_ERROR_DECODE 38   /* the channel is a decoding channel (cannot be played) */
#define BASS_ERROR_FILEFORM 41 /* unsupported file format (for this opener) */
#define BASS_ERROR_CODEC 44    /* the container is known but its codec is not handled */
#define BASS_ERROR_ENDED 45    /* the channel or encoder has ended */
#define BASS_ERROR_UNKNOWN -1

/* BASS_SetConfig options. */
#define BASS_CONFIG_BUFFER 0             /* playback buffer, ms (10 ... 5000, default 500) */
#define BASS_CONFIG_UPDATEPERIOD 1       /* audio thread period, ms (5 ... 100, default 10) */
#define BASS_CONFIG_ENCODE_QUEUE 0x10301 /* queue limit an encoder starts with, bytes; 0 = none */

/* Stream and file flags. */
#define BASS_SAMPLE_FLOAT 0x100      /* not supported: every stream carries 16-bit samples */
#define BASS_STREAM_AUTOFREE 0x40000 /* free the stream when playback stops or ends */
#define BASS_STREAM_DECODE 0x200000  /* decoding channel: pulled with BASS_ChannelGetData only */
#define BASS_UNICODE 0x80000000u     /* file name / command line is UTF-16 */

/* BASS_ChannelIsActive states. */
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_STALLED 2
#define BASS_ACTIVE_PAUSED 3

/* Channel attributes (BASS_ChannelSetAttribute). */
#define BASS_ATTRIB_VOL 2               /* linear gain, >= 0; applied when heard */
#define BASS_ATTRIB_TEMPO 0x10000       /* tempo streams: percent, -95 ... 5000 */
#define BASS_ATTRIB_TEMPO_PITCH 0x10001 /* tempo streams: semitones, -60 ... 60 */

/* Position modes. */
#define BASS_POS_BYTE 0

/* BASS_ChannelGetInfo's record. ctype is one of the BASS_CTYPE_* values. */
typedef struct BASS_CHANNELINFO {
    DWORD freq;    /* sample rate, Hz */
    DWORD chans;   /* channel count */
    DWORD flags;   /* the BASS_STREAM_* flags the channel was created with */
    DWORD ctype;   /* kind of channel */
    DWORD origres; /* bits per sample of the source (0 when not known, e.g. lossy) */
} BASS_CHANNELINFO;

#define BASS_CTYPE_STREAM 0x10000 /* push or callback stream */
#define BASS_CTYPE_STREAM_OGG 0x10002
#define BASS_CTYPE_STREAM_MP2 0x10004
#define BASS_CTYPE_STREAM_MP3 0x10005
#define BASS_CTYPE_STREAM_AIFF 0x10006
#define BASS_CTYPE_STREAM_WAV 0x40000
#define BASS_CTYPE_STREAM_FLAC 0x10900
#define BASS_CTYPE_STREAM_OPUS 0x11200
#define BASS_CTYPE_STREAM_AAC 0x10b00
#define BASS_CTYPE_STREAM_MP4 0x10b01
#define BASS_CTYPE_STREAM_WMA 0x10300
#define BASS_CTYPE_STREAM_TEMPO 0x1f200

/* User stream procedure: fill up to length bytes, return the count, or'ed with
   BASS_STREAMPROC_END when the stream ends. Runs on the audio thread (or the caller of
   BASS_ChannelGetData for a decoding stream). */
typedef DWORD (*STREAMPROC)(HSTREAM handle, void* buffer, DWORD length, void* user);
#define BASS_STREAMPROC_END 0x80000000u
/* The push stream: plays only what BASS_StreamPutData gives. */
#define STREAMPROC_PUSH ((STREAMPROC)(intptr_t)-1)

/* DSP routine: modify the length bytes at buffer in place; the channel delivers what it
   leaves there. Runs on the audio thread for playing channels, on the
   caller's thread for BASS_ChannelGetData. */
typedef void (*DSPPROC)(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user);

/* Sync routine. Only the end of a channel's data is offered, at mix time: the routine runs
   on the thread rendering the channel, right after its last block, with its render lock held
   (so it may do what a DSP routine may). */
typedef void (*SYNCPROC)(HSYNC handle, DWORD channel, DWORD data, void* user);
#define BASS_SYNC_END 2
#define BASS_SYNC_MIXTIME 0x40000000

/* Device and library. */
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* dsguid);
BOOL BASS_Free(void);
BOOL BASS_Start(void);
BOOL BASS_Stop(void);
BOOL BASS_SetConfig(DWORD option, DWORD value);
DWORD BASS_GetConfig(DWORD option); /* (DWORD)-1 on failure */
int BASS_ErrorGetCode(void);        /* the calling thread's last error code */
DWORD BASS_GetVersion(void);
DWORD BASS_FX_GetVersion(void);
DWORD BASS_Mixer_GetVersion(void);

/* File streams: mem must be FALSE, offset and length 0 (the whole file). Flags:
   BASS_STREAM_DECODE, BASS_STREAM_AUTOFREE, BASS_UNICODE. 0 on failure. */
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                              DWORD flags); /* WAV, AIFF, MP3/MP2, Ogg Vorbis, FLAC, Opus */
HSTREAM BASS_AAC_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags); /* ADTS AAC, MP4/M4A */
HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags); /* ASF/WMA */

/* Tempo stream on a decoding source: the source's rate and channels. flags:
   BASS_STREAM_DECODE, BASS_STREAM_AUTOFREE. */
HSTREAM BASS_FX_TempoCreate(DWORD chan, DWORD flags);

/* Push (proc = STREAMPROC_PUSH) or callback stream, 16-bit, chans 1 ... 8. */
HSTREAM BASS_StreamCreate(DWORD freq, DWORD chans, DWORD flags, STREAMPROC proc, void* user);
/* Queues length bytes (whole frames); or'ed with BASS_STREAMPROC_END it also marks the end.
   Returns the bytes queued, (DWORD)-1 on failure. */
DWORD BASS_StreamPutData(HSTREAM handle, const void* buffer, DWORD length);
BOOL BASS_StreamFree(HSTREAM handle);

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart); /* restart: TRUE (-1 or 1) from start */
BOOL BASS_ChannelPause(DWORD handle);
BOOL BASS_ChannelStop(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle); /* BASS_ACTIVE_*; 0 for a bad handle */
BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);
BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);   /* (QWORD)-1 on failure */
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode); /* (QWORD)-1 on failure */
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos); /* negative on failure */
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos); /* (QWORD)-1 on failure */
/* Decoding channels: up to length bytes (whole frames) into buffer, DSP routines applied;
   (DWORD)-1 at the end (BASS_ERROR_ENDED) or on failure. */
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
/* priority: higher runs first. 0 on failure. */
HDSP BASS_ChannelSetDSP(DWORD handle, DSPPROC proc, void* user, int priority);
BOOL BASS_ChannelRemoveDSP(DWORD handle, HDSP dsp);
/* type must be BASS_SYNC_END | BASS_SYNC_MIXTIME, param 0; the sync goes with the channel. */
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC proc, void* user);

/* Encoders (audio/BassEncode.cpp). */
#define BASS_ENCODE_NOHEAD 1         /* command line fed raw samples, no WAV header */
#define BASS_ENCODE_PCM 0x40         /* write a WAV file, text = the file name */
#define BASS_ENCODE_QUEUE 0x200      /* queue data, feed it on a thread of the encoder */
#define BASS_ENCODE_AUTOFREE 0x40000 /* free the encoder with its channel */
#define BASS_ENCODE_UNICODE BASS_UNICODE

typedef void (*ENCODEPROC)(HENCODE handle, DWORD channel, const void* buffer, DWORD length,
                           void* user);
DWORD BASS_Encode_GetVersion(void);
HENCODE BASS_Encode_Start(DWORD handle, const void* cmdline, DWORD flags, ENCODEPROC proc,
                          void* user);
BOOL BASS_Encode_Write(DWORD handle, const void* buffer, DWORD length);
BOOL BASS_Encode_Stop(DWORD handle);
/* This encoder's own queue limit in bytes (0 = none), replacing the BASS_CONFIG_ENCODE_QUEUE
   value it started with; no other encoder is affected. A write waiting for room sees it. */
BOOL BASS_Encode_SetQueueLimit(HENCODE handle, DWORD bytes);

/* Tags (audio/BassTags.cpp): the format text with %TITL, %ARTI, %ALBM, %GNRE, %YEAR replaced
   by the channel's tag values (empty if absent). The result stays valid until the calling
   thread's next TAGS_Read. */
DWORD TAGS_GetVersion(void);
const char* TAGS_Read(DWORD handle, const char* fmt);

#ifdef __cplusplus
}
#endif

#endif
