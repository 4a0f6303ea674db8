// What a program's command line asks for, once its options are read.
#pragma once

namespace mosaiq {

enum class CommandRequest { run, help, version, bad_usage };

}  // namespace mosaiq
