// Lead pursuit within the manoeuvres: aim where a straight dash at full speed
// would meet the bogie as the tracker expects it, turn while far off that
// heading, and near it turn only where that clearly shrinks the miss.
#ifndef INTERCEPT_PURSUIT_H_
#define INTERCEPT_PURSUIT_H_

#include <cstdint>
#include <vector>

#include "geometry.h"
#include "tracker.h"

// Where a friendly at `friendly` at time at_ms, flying straight at full
// speed from then on, would meet the bogie of a track as of track_ms that
// keeps its velocity (the lead point).
GlobalOrd leadPoint(const Track& track, std::int64_t track_ms,
                    const Pose& friendly, std::int64_t at_ms);

// The controls for a friendly at `friendly` at time now_ms to hold for the
// next hold_ms, against the tracks as of tracks_ms, best first (a Tracker's
// getTracks and getTime), moved on to now_ms: straight while that passes the
// best track's bogie closely; a turn the short way towards the lead point
// while far off it; near it, a turn only where one cycle of it shrinks the
// miss. While two tracks want different turns, straight if that swings the
// line to the base round (which tells them apart). Straight without tracks.
Controls leadPursuit(const std::vector<Track>& tracks, std::int64_t tracks_ms,
                     const Pose& friendly, std::int64_t now_ms,
                     std::int64_t hold_ms);

#endif  // INTERCEPT_PURSUIT_H_
