// Lead pursuit within the manoeuvres: aim where a straight dash at full speed
// would meet the bogie as the tracker expects it, turn while far off that
// heading, near it turn only where that clearly shrinks a miss that the
// coming readings will not explain away, never hold a pass expected outside
// the intercept range into the last cycles, and fly off a line-up first.
#ifndef INTERCEPT_DEMO_PURSUIT_H_
#define INTERCEPT_DEMO_PURSUIT_H_

#include <cstdint>

#include "geometry.h"
#include "tracker.h"

// Where a friendly at `friendly` at time at_ms, flying straight at full
// speed from then on, would meet the bogie of a track as of track_ms that
// keeps its velocity (the lead point); where that bogie is, if the track
// makes it too fast to meet.
GlobalOrd leadPoint(const Track& track, std::int64_t track_ms,
                    const Pose& friendly, std::int64_t at_ms);

// The controls for a friendly at `friendly` at time now_ms to hold for the
// next hold_ms, against the tracker's tracks moved on to now_ms and taken
// together: the likely ones near the best, as one mixture. Where the lines
// of sight from the base and the friendly stay nearly parallel and the
// readings will not place the bogie sideways, 0.4 rad off the lead heading;
// else straight while the pass lies inside the intercept range (less half
// the closing between two samples and the doubt that no turn can act on any
// more), or is off by less than three times the sideways doubt that the
// readings will still clear up while a turn can act on them; a turn the
// short way towards the lead point while far off it; near it, a turn only
// where one cycle of it shrinks the miss (by 10 m, and in the last cycles by
// half a metre). While the second-best track is still an open question (as
// fast as an aircraft, not far less likely) and wants a different turn,
// straight if that swings the line to the base round (which tells them
// apart). Straight without tracks.
Controls leadPursuit(const Tracker& tracker, const Pose& friendly,
                     std::int64_t now_ms, std::int64_t hold_ms);

#endif  // INTERCEPT_DEMO_PURSUIT_H_
