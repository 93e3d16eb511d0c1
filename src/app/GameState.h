#pragma once

enum GameState { Intro = 0, Loading = 1, Playing = 2, Won = 3, Lost = 4 };
