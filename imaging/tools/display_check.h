// Whether windows can be shown: the check pixel_access makes before it
// opens any.
#ifndef IMAGING_TOOLS_DISPLAY_CHECK_H_
#define IMAGING_TOOLS_DISPLAY_CHECK_H_

// True when a display seems able to show windows: a Wayland session, or an X
// server that accepts a connection on the local socket DISPLAY names. A
// remote X display (host:0, as ssh forwards it) is trusted as it is. Always
// true on macOS and Windows, whose window servers no variable names.
bool displayAnswers();

#endif  // IMAGING_TOOLS_DISPLAY_CHECK_H_
