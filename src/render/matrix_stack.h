#pragma once

// The bracket around the scenes that draw in normalized device coordinates: both matrices
// saved and set to identity, GL_MODELVIEW current afterwards.
void pushIdentityMatrices();
// Restores both matrices saved by pushIdentityMatrices; expects GL_MODELVIEW current and
// leaves it current.
void popMatrices();
