// Every program's version, as its usage text, the editor's About box and
// its log header show it: the year and the day of the year of its last
// change. A program's version moves only when that program changes.
#pragma once

constexpr const char* ENCODER_VERSION = "26.245";
constexpr const char* DECODER_VERSION = "26.343";
constexpr const char* HARVESTER_VERSION = "26.247";
constexpr const char* SHUFFLER_VERSION = "26.343";
constexpr const char* PACKER_VERSION = "26.343";
constexpr const char* EDITOR_VERSION = "26.343";
