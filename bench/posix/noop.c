/* The companion for timing: starts and ends. */
int main(void)
{
    return 0;
}
