#include "inicio.h"

int main(int argc, char** argv) { return telvarim::ExecutaPrograma(argc, argv); }
