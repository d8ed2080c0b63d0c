// Where the rating service answers batch rating requests over HTTP: the
// loopback interface only, on a fixed port below the range Windows hands out
// for outgoing connections, so that no client's ephemeral port takes it.
#pragma once

constexpr unsigned short kRatingsHttpPort = 27491;
// The add-on's default for the option "DssServer", the address the
// safe-search scripts ask.
constexpr char kRatingsHttpUrl[] = "http://127.0.0.1:27491/ratings";
