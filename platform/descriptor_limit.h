#pragma once

// Raises this process's soft limit of open descriptors towards its hard
// limit (at most 65,536), so that a sweep can keep a descriptor open for
// each of thousands of directories; the usual soft limit of 1,024 would
// hold only a few hundred. Called once, at the start of main(), before any
// thread starts. Programs the process starts get back the limit it had.
void RaiseDescriptorLimit();
