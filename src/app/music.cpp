#include "app/music.h"

void startMusic() {}
