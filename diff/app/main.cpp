#include "diff/app/cdiffapp.h"

int main(int argc, char** argv)
{
    return CDiffApp::Run(argc, argv);
}
