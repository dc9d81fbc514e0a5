int RotationMathPlaceholder() { return 0; }
