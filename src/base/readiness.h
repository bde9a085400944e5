// Whether a file can be read now.
#pragma once

// Readable: it is there and can be read. NotYet: it is there, or may be, but cannot be read
// yet (held open without sharing, its cloud provider or its network path not ready), so a
// later try may read it. Missing: it is not there, or cannot be read for another reason.
enum class TReadiness { Readable, NotYet, Missing };
