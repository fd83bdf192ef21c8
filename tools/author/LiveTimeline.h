// The timeline text compiled in the tool's own process and handed to the driver's tracks.
//
// Contract: load() reads and compiles the file with the compiler `synctrack` uses;
// apply() checks every track's keys first and then replaces the keys of each of the
// driver's tracks at once (a track the timeline does not name gets none and reads 0.0,
// as it would without its file). Either step that fails changes nothing and says why,
// with the file and line where the compiler gives them.
#pragma once

#include "Timeline.h"

#include <string>
#include <vector>

class PresentationDriver;

namespace live {

// *text, when given, gets the text that compiled.
bool loadTimeline(const std::string& path, synctrack::Timeline* timeline, std::string* error,
                  std::string* text = nullptr);
bool applyTimeline(const synctrack::Timeline& timeline, const std::string& path, PresentationDriver& driver,
                   const std::vector<std::string>& trackNames, std::string* error);

}  // namespace live
