#pragma once

// A baud rate that termios has no constant for, through the kernel's
// termios2 interface. Kept apart because the kernel's terminal header and
// the C library's cannot be included together.

// Sets input and output rate of the open terminal `fd`; the errno on
// failure, 0 on success.
int SetArbitraryBaudRate(int fd, int baudRate);

// The output rate the terminal `fd` runs at, whatever way it was set; 0
// when it cannot be read.
int ReadBaudRate(int fd);
