// The target that owns the precompiled Qt headers; it has no code of its own.
