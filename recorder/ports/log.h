#pragma once

#include <filesystem>
#include <string>

namespace kelbo::log {

// What part of the recorder a line comes from. A line of an area says so
// before its level ("stream [warning] ..."), so one area's lines can be
// picked out of the log; the general lines carry no name.
enum class Area { General, Schedule, Recording, Device, Stream, Commands, Desktop };

// The area's name as the log and KELBO_DEBUG write it ("stream").
const char* areaName(Area area);

// What the recorder did, with the time: starts, splits, finishes, stops,
// failures with their reasons, reloads and rewrites. Safe from any thread.
//
// Written to logFile() (kept to a few files of bounded size, readable by the
// user alone) and, when standard error is a terminal, to standard error
// too. Control characters are escaped and stream passwords and tokens
// masked.
// Nothing to set up: the first line opens the file, and a change of
// XDG_STATE_HOME is followed at the next line.
void info(const std::string& message);
void warn(const std::string& message);
void error(const std::string& message);
void info(Area area, const std::string& message);
void warn(Area area, const std::string& message);
void error(Area area, const std::string& message);

// Details for finding a fault, written only for the areas that the
// environment's KELBO_DEBUG names ("stream,recording", or "all"); read at
// each line, so a test or a restarted recorder may change it.
void debug(Area area, const std::string& message);
// Whether debug(area, ...) writes, for details that cost to put into words.
bool debugging(Area area);
// For errors that may come many times a second with changing details (a
// decoder's complaint about each picture): written at most once a second
// per `kind`, the next one written saying how many were left out.
void errorOften(const std::string& kind, const std::string& message);

// $XDG_STATE_HOME/kelbo/kelbo.log, by default ~/.local/state/kelbo/kelbo.log;
// empty (standard error only) when the user has no home folder.
std::filesystem::path logFile();

}  // namespace kelbo::log
