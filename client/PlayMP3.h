#pragma once
// Sounds that pages ask for by URL: each request runs on a thread of the
// player's, downloads the file once into the per-user MP3 cache, decodes it
// and plays it on the wave-out device. Nothing reports back to the page.
#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvclient::PlayMP3 {

// A sound is a few megabytes at most: a download that passes this size is
// no sound, and is stopped and discarded rather than filling the disk.
constexpr std::uint64_t kMaxSoundBytes = 32u << 20;
// Requests served at once, each by a thread of its own; later ones wait in
// order. A page that asks for sounds in a loop thus holds a few threads and
// connections, never one per request.
constexpr int kMaxSoundsAtOnce = 4;
// Requests that may wait behind the kMaxSoundsAtOnce being served; one more is
// refused and logged. A page that asks faster than sounds arrive (from a
// server that never answers) thus holds a bounded memory, and its sounds do
// not play long after the fact.
constexpr size_t kMaxWaitingSounds = 16;

// Prepares the cache folder (g_appDataDir + "\mp3filecache\"): created, or
// emptied of its files at every start; then initialises libmpg123.
void Init();
// Queues `url` (UTF-8) to be played on one of the player's threads, starting
// one when fewer than kMaxSoundsAtOnce run, and logs the request; refuses it,
// logging that instead, when kMaxWaitingSounds wait already. Returns 0.
int NewThreadPlayUrl(const std::string& url);
// The request's work, on the calling thread: fetch into the cache (up to
// kMaxSoundBytes) when the file is not there yet, then decode and play it.
// -1 when nothing played.
int PlayUrl(const std::string& url);
// The cache folder Init prepared.
const std::string& CacheFolder();
// The cache file of a URL: "<hash>.mp3" in the cache folder, the hash taken
// over every byte of the URL.
std::string CacheFileName(const std::string& url);
// Decodes the file and plays it on `device`; returns once the sound has
// drained: 0, or -1 when the file or the device could not be opened (logged).
int DecodeAndPlay(const std::string& path, UINT device = WAVE_MAPPER);

}  // namespace kvclient::PlayMP3
