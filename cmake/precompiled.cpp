// The translation unit that compiles the precompiled headers of its target;
// it holds no code of its own.
