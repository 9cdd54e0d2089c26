#pragma once

// The wait cursor for the life of a scope, while long work runs.
class TWaitCursor {
public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};
