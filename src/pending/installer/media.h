#pragma once
int check_any(int what, int force);
